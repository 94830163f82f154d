#include "app/MainWindowPages.h"

#include <map>

namespace evdo {
namespace {

std::map<PageKind, PageFactory>& Factories() {
  static std::map<PageKind, PageFactory> factories;
  return factories;
}

}  // namespace

void MainWindowPages::Register(PageKind kind, PageFactory factory) { Factories()[kind] = std::move(factory); }

void MainWindowPages::Unregister(PageKind kind) { Factories().erase(kind); }

const PageFactory* MainWindowPages::Factory(PageKind kind) {
  auto it = Factories().find(kind);
  return it == Factories().end() || !it->second ? nullptr : &it->second;
}

}  // namespace evdo
