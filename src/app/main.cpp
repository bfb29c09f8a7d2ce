#include "app/Program.h"

int main(int argc, char** argv) {
    return brinmor::RunProgram(argc, argv, brinmor::SleepPause);
}
