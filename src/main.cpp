#include "app/ui/startup.h"

int main(int argc, char** argv) {
    return RunRegiscribe(argc, argv);
}
