// Compiled with the settings of a logic library; it must fail to compile.
#include <QObject>
int main() { return 0; }
