#include "app/game_main.h"

int main(int argc, char** argv) {
    return corsavel::runGame(argc, argv);
}
