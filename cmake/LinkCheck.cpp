// The entry point of a layer's link check: the program is never run; that it
// links is the check.
int main() { return 0; }
