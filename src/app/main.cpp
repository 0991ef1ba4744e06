// kestrel: the viewer. An optional argument names a file, a folder to show, or "/Remove".

#include "app/main/Program.h"

int main(int argc, char** argv) {
  return kestrel::RunKestrel(argc, argv);
}
