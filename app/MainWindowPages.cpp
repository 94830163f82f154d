#include "app/MainWindowPages.h"

#include <map>

namespace evdo {
namespace {

std::map<PageKind, PageFactory>& Factories() {
  static std::map<PageKind, PageFactory> factories;
  return factories;
}

}  // namespace

const char* PageName(PageKind kind) {
  switch (kind) {
    case PageKind::Messages: return "messages";
    case PageKind::Calls: return "calls";
    case PageKind::Phonebook: return "phonebook";
    case PageKind::Internet: return "internet";
    case PageKind::Statistics: return "statistics";
    case PageKind::Settings: return "settings";
  }
  return "";
}

bool PageFromName(std::string_view name, PageKind& kind) {
  for (const PageSpec& spec : kPageOrder) {
    if (name == PageName(spec.kind)) {
      kind = spec.kind;
      return true;
    }
  }
  return false;
}

void MainWindowPages::Register(PageKind kind, PageFactory factory) { Factories()[kind] = std::move(factory); }

void MainWindowPages::Unregister(PageKind kind) { Factories().erase(kind); }

const PageFactory* MainWindowPages::Factory(PageKind kind) {
  auto it = Factories().find(kind);
  return it == Factories().end() || !it->second ? nullptr : &it->second;
}

}  // namespace evdo
