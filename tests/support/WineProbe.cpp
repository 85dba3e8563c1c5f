// Starts and exits: the test script runs it to learn whether Wine can start programs of this architecture.
int main() {
    return 0;
}
