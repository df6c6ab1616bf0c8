// vornak: the configurator of the Nimbrel KX1 keyboard.
#include "app/vornak_app.h"

int main(int argc, char** argv) {
    vornak::CVornakApp app(argc, argv);
    return app.Run();
}
