#include "app/qt/app.h"

int main(int argc, char** argv) { return orv::RunMonitor(argc, argv); }
