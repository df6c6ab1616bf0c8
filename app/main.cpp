// vornak: the configurator of the Nimbrel KX1 keyboard.
#include "app/vornak_app.h"
#include "platform/heap.h"

int main(int argc, char** argv) {
    vornak::UseOneHeap();
    vornak::CVornakApp app(argc, argv);
    return app.Run();
}
