// Sulo: the photographic booth for facial and skin imaging.
#include "app/Program.h"
#include "views/widgets/SanitizerDefaults.h"

int main(int argc, char** argv) { return RunSulo(argc, argv); }
