#include "TestSupport.h"

#include <sys/stat.h>

std::string TestDataDir() {
    struct stat st;
    std::string dir = KORVALEND_TESTDATA_DIR;
    if (stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return dir;
    return "";
}
