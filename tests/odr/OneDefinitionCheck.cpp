// The program of the one-definition check (cmake/ZevOdrCheck.cmake): built,
// never run. What it checks happens when it is linked.
int main() {
    return 0;
}
