// CVornakApp: the program's run, in order. The command line; "/Kill" handled before anything else; the paths
// and texts; the single instance (a second start hands over to the running copy and ends); the companion
// program; the PortHub library, the link and the configuration with locks A and B; the device worker; the
// main window for the whole run; and the end: the link closed while blocking calls can still be served, the
// worker and the threads joined.
#pragma once

#include <string>
#include <vector>

namespace vornak {

class CVornakApp {
  public:
    CVornakApp(int& argc, char** argv);
    // The process's exit code.
    int Run();

  private:
    int& argc_;
    char** argv_;
    std::vector<std::string> args_;
    std::string name_;
};

}  // namespace vornak
