// Tries to open the port given as argument the way Tavrel does; exits 0 when it opened,
// otherwise with the errno of the failed open.
#include "TavrelSocket.h"

using namespace tavrel::link;

int main(int argc, char** argv) {
    if (argc != 2) {
        return 100;
    }
    int openErrno = 0;
    auto socket = TavrelSocket::initWithDeviceFilePath(argv[1], &openErrno);
    return socket ? 0 : openErrno;
}
