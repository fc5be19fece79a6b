#pragma once

#include <QStringList>

namespace tardigo::cli {

// Each command takes the arguments after its name and answers the exit code.
int commandNew(const QStringList& args);
int commandAdd(const QStringList& args);
int commandShow(const QStringList& args);
int commandDump(const QStringList& args);
int commandCheck(const QStringList& args);
int commandArchive(const QStringList& args);
int commandExport(const QStringList& args);
int commandImport(const QStringList& args);
int commandConfig(const QStringList& args);
int commandIcal(const QStringList& args);
int commandSync(const QStringList& args);
int commandAccount(const QStringList& args);
int commandFind(const QStringList& args);
int commandAgenda(const QStringList& args);

} // namespace tardigo::cli
