// The README describes the simulated modem as it is: its table of control
// commands names exactly the commands "help" lists, and it shows the AT
// commands the simulator answers as "help" lists them.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "tools/modemsim/ModemEngine.h"
#include "tools/modemsim/SimulatedModem.h"

namespace evdo::modemsim {
namespace {

std::string ReadReadme() {
  std::ifstream in(EVDO_README_PATH);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The first words of the rows of the README's control command table.
std::set<std::string> ReadmeControlCommands(const std::string& readme) {
  std::set<std::string> names;
  std::istringstream lines(readme);
  std::string line;
  bool inTable = false;
  while (std::getline(lines, line)) {
    if (line.rfind("| control command |", 0) == 0) {
      inTable = true;
      continue;
    }
    if (!inTable) continue;
    if (line.rfind("|", 0) != 0) break;
    if (line.rfind("| `", 0) != 0) continue;  // the separator row
    std::size_t start = 3;
    std::size_t end = line.find_first_of(" `", start);
    names.insert(line.substr(start, end - start));
  }
  return names;
}

TEST(Readme, ControlCommandTableMatchesTheSimulatorsHelp) {
  const std::string readme = ReadReadme();
  ASSERT_FALSE(readme.empty()) << EVDO_README_PATH;
  // The whole simulator: its own control commands join the engine's.
  SimulatedModem modem{SimulatedModemOptions{}};
  std::string help = modem.Control("help");
  std::set<std::string> fromHelp;
  std::string atLine;
  std::istringstream lines(help);
  std::string line;
  while (std::getline(lines, line)) {
    if (line == "OK" || line.empty() || line[0] == ' ') continue;  // continuation lines
    if (line.rfind(kAtCommandsHeading, 0) == 0) {
      atLine = line;
      continue;
    }
    fromHelp.insert(line.substr(0, line.find(' ')));
  }
  EXPECT_EQ(ReadmeControlCommands(readme), fromHelp)
      << "the README's control command table and the simulator's help differ; help says:\n"
      << help;
  ASSERT_FALSE(atLine.empty()) << help;
  EXPECT_NE(readme.find(atLine), std::string::npos)
      << "the README should show the AT commands as help lists them:\n    " << atLine;
}

}  // namespace
}  // namespace evdo::modemsim
