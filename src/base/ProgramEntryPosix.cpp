// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProgramEntry.h"

int main(int argc, char** argv)
{
    return programMain(std::vector<std::string>(argv + 1, argv + argc));
}
