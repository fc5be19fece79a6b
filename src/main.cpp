#include "desktop_app/application_main.h"

int main(int argc, char** argv) {
    return tardigo::runTardigo(argc, argv);
}
