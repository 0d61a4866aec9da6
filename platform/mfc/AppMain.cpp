// Process entry of every deliverable.
int main() { return 0; }
