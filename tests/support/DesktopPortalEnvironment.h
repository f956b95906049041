#pragma once

#include "FakeDesktopPortal.h"

#include <gtest/gtest.h>
#include <memory>

namespace zev {

// One stand-in portal for a whole test program, made before the first test:
// the process keeps the first session bus it meets, so the private bus must
// be in place before anything touches the session bus. Register it once per
// program with ::testing::AddGlobalTestEnvironment.
class DesktopPortalEnvironment : public ::testing::Environment {
public:
    void SetUp() override { portal = std::make_unique<FakeDesktopPortal>(); }
    void TearDown() override { portal.reset(); }

    static inline std::unique_ptr<FakeDesktopPortal> portal;
};

} // namespace zev
