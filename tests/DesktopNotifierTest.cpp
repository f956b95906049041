#include "DesktopNotifier.h"

#include "DesktopPortalEnvironment.h"
#include "FakeNotificationServer.h"

#include <gtest/gtest.h>

using namespace zev;

namespace {

[[maybe_unused]] const auto* const kBusEnvironment =
    ::testing::AddGlobalTestEnvironment(new DesktopPortalEnvironment);

// The body goes out as text: markup in a folder's name or a reason would
// otherwise be read, or dropped, by the server.
TEST(DesktopNotifierTest, ReachesTheServerWithTheBodyAsText) {
    ASSERT_TRUE(DesktopPortalEnvironment::portal->isRunning());
    FakeNotificationServer server(DesktopPortalEnvironment::portal->busAddress());
    ASSERT_TRUE(server.publish());

    EXPECT_TRUE(DesktopNotifier::notify(QStringLiteral("Queue finished: 2 converted, 1 failed"),
                                        QStringLiteral("<b>x</b> & y")));

    ASSERT_TRUE(server.waitForNotifications(1));
    const FakeNotificationServer::Notification shown = server.notifications().constFirst();
    EXPECT_EQ(shown.application, "ZEV");
    EXPECT_EQ(shown.icon, "zev");
    EXPECT_EQ(shown.summary, "Queue finished: 2 converted, 1 failed");
    EXPECT_EQ(shown.body, "&lt;b&gt;x&lt;/b&gt; &amp; y");
}

} // namespace
