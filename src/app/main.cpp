// oa-client: the phone client in a desktop window.
#include "app/AppDelegate.h"

int main(int argc, char** argv) {
    return oa::AppDelegate::run(argc, argv);
}
