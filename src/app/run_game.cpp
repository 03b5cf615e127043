namespace corsavel {

// Entry of the game process; the frame loop and start-up replace this.
int runGame(int, char**) { return 0; }

}  // namespace corsavel
