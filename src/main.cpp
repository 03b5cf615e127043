// The game's entry point lives in the app subsystem.
namespace corsavel {
int runGame(int argc, char** argv);
}

int main(int argc, char** argv) { return corsavel::runGame(argc, argv); }
