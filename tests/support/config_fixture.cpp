#include "tests/support/config_fixture.h"

namespace vornak::test {

ConfigFixture::ConfigFixture(SimHarnessOptions options)
    : harness(std::move(options)),
      paths(PathRoots{dir / "program", dir / "Documents", dir / "config"}),
      transfer(
          store, harness.link(), [this] { return harness.portHubLink().DefaultLayout(); }, texts, prompts),
      files(paths, store, transfer, harness.link(), texts, prompts) {
    files.SetView(&view);
    files.SetUserFolderSeeder([this] { ++seeded; });
}

SimHarnessOptions WithMacroUnits(uint8_t units) {
    SimHarnessOptions o;
    o.config.memory.settings[settings_field::kMacroUnits] = units;
    o.config.memory.macro.assign(size_t{units} * kMacroUnitSize, 0);
    return o;
}

}  // namespace vornak::test
