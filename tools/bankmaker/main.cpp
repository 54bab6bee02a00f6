// bankmaker: builds the shipped sound banks and looks into finished ones.

#include "tools/bankmaker/BankTool.h"

#include "tools/bankmaker/BuildAllBanks.h"
#include "tools/bankmaker/synth/TestBanks.h"

#include <exception>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int kUsageExit = 2;

int Usage()
{
    std::cerr << "usage: bankmaker list <bank>\n"
                 "       bankmaker extract <bank> <outdir>\n"
                 "       bankmaker build <distdir>        the 23 shipped banks\n"
                 "       bankmaker build-test <dir>       the four banks known but not shipped\n";
    return kUsageExit;
}

int Run(const std::vector<std::string>& args)
{
    if (args.size() == 2 && args[0] == "list")
        return ListBank(args[1], std::cout, std::cerr);
    if (args.size() == 3 && args[0] == "extract")
        return ExtractBank(args[1], args[2], std::cout, std::cerr);
    if (args.size() == 2 && args[0] == "build")
        return BuildAllBanks(args[1]);
    if (args.size() == 2 && args[0] == "build-test")
        return BuildTestBanks(args[1]);
    return Usage();
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        return Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& failure) {
        std::cerr << "bankmaker: " << failure.what() << '\n';
        return 1;
    }
}
