// Start-up of the dashboard against the simulated modem: the time from the
// process's start to the main window shown, with the waits the start-up
// prescribes (the progress dots, the device search intervals) told apart,
// and the resident memory once the modem is ready. Runs the program a few
// times in a fresh data folder (offscreen) and prints each run and the
// median.
//
//   evdo_shell_startup_benchmark [RUNS]
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Run {
  long shownMs = -1, prescribedMs = -1, ownMs = -1, readyMs = -1, residentKb = -1;
};

bool ParseReport(const std::string& out, Run& run) {
  std::size_t at = out.find("startup: main window shown after");
  if (at == std::string::npos) return false;
  if (std::sscanf(out.c_str() + at, "startup: main window shown after %ld ms: %ld ms prescribed waits, %ld ms",
                  &run.shownMs, &run.prescribedMs, &run.ownMs) != 3)
    return false;
  at = out.find("startup: device initialised after");
  return at != std::string::npos &&
         std::sscanf(out.c_str() + at, "startup: device initialised after %ld ms; resident memory %ld kB",
                     &run.readyMs, &run.residentKb) == 2;
}

bool RunOnce(const fs::path& folder, Run& run) {
  std::string command = "cd '" + folder.string() + "' && QT_QPA_PLATFORM=offscreen '" EVDO_DASHBOARD_PATH
                        "' --simulate --startup-report --screenshot shot.png 2>/dev/null";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return false;
  std::string out;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
  int status = ::pclose(pipe);
  return status == 0 && ParseReport(out, run);
}

long Median(std::vector<long> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  char templ[] = "/tmp/evdo-startup-XXXXXX";
  if (::mkdtemp(templ) == nullptr) return 1;
  fs::path folder = templ;
  fs::create_directory_symlink(EVDO_LANG_DIR, folder / "lang");
  fs::create_directory_symlink(EVDO_SKIN_DIR, folder / "skin");
  ::setenv("EVDO_MODEMSIM", EVDO_MODEMSIM_PATH, 1);
  ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);

  std::vector<long> own, prescribed, shown, resident;
  for (int i = 0; i < runs; ++i) {
    Run run;
    if (!RunOnce(folder, run)) {
      std::fprintf(stderr, "run %d failed\n", i + 1);
      fs::remove_all(folder);
      return 1;
    }
    std::printf("run %d: main window after %ld ms (prescribed waits %ld ms, own %ld ms); "
                "device ready after %ld ms; resident %ld kB\n",
                i + 1, run.shownMs, run.prescribedMs, run.ownMs, run.readyMs, run.residentKb);
    own.push_back(run.ownMs);
    prescribed.push_back(run.prescribedMs);
    shown.push_back(run.shownMs);
    resident.push_back(run.residentKb);
  }
  std::printf("median: main window after %ld ms, prescribed waits %ld ms, own %ld ms (limit 300 ms); "
              "resident %ld kB\n",
              Median(shown), Median(prescribed), Median(own), Median(resident));
  fs::remove_all(folder);
  return Median(own) < 300 ? 0 : 1;
}
