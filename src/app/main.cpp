#include "app/process_start.h"

int main(int argc, char** argv) { return kestrel::RunKestrel(argc, argv); }
