#pragma once

namespace tardigo {

/// The desktop application: opens the lists named on the command line, or a new one, and runs
/// until the last window closes or the user quits.
int runTardigo(int argc, char** argv);

} // namespace tardigo
