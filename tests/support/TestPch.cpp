// Builds the headers nearly every test includes once (see tests/CMakeLists.txt); every
// test executable reuses them.
int main()
{
    return 0;
}
