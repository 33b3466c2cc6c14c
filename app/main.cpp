#include "app/CEventApp.h"

#include <string>
#include <vector>

int main(int argc, char** argv)
{
    CEventApp theApp;
    return theApp.InitInstance(std::vector<std::string>(argv + 1, argv + argc));
}
