#include "DesktopNotifier.h"

#include "DesktopPortalEnvironment.h"
#include "FakeNotificationServer.h"
#include "ParamName.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <gtest/gtest.h>

using namespace zev;

namespace {

[[maybe_unused]] const auto* const kBusEnvironment =
    ::testing::AddGlobalTestEnvironment(new DesktopPortalEnvironment);

struct NotifyCase {
    const char* title;
    bool serverPresent;
    QString body;
    // What the server shows as the body; unused without a server.
    QString shownBody;
};

void PrintTo(const NotifyCase& c, std::ostream* out) {
    *out << c.title;
}

class Notify : public ::testing::TestWithParam<NotifyCase> {};

TEST_P(Notify, ReachesTheServerOrIsSkippedQuietly) {
    const NotifyCase c = GetParam();
    ASSERT_TRUE(DesktopPortalEnvironment::portal->isRunning());
    FakeNotificationServer server(DesktopPortalEnvironment::portal->busAddress());
    if (c.serverPresent) {
        ASSERT_TRUE(server.publish());
    }

    EXPECT_TRUE(DesktopNotifier::notify(QStringLiteral("Queue finished: 2 converted, 1 failed"), c.body));

    if (!c.serverPresent) {
        // Long enough for a call to have arrived, had there been anyone.
        const QDeadlineTimer settle(200);
        while (!settle.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_TRUE(server.notifications().isEmpty());
        return;
    }
    ASSERT_TRUE(server.waitForNotifications(1));
    const FakeNotificationServer::Notification shown = server.notifications().constFirst();
    EXPECT_EQ(shown.application, "ZEV");
    EXPECT_EQ(shown.icon, "zev");
    EXPECT_EQ(shown.summary, "Queue finished: 2 converted, 1 failed");
    EXPECT_EQ(shown.body, c.shownBody);
}

INSTANTIATE_TEST_SUITE_P(
    DesktopNotifierTest, Notify,
    ::testing::Values(NotifyCase{"plain", true, QStringLiteral("walk: 文件夹下存在不连续图片."),
                                 QStringLiteral("walk: 文件夹下存在不连续图片.")},
                      NotifyCase{"markup_kept_as_text", true, QStringLiteral("<b>x</b> & y"),
                                 QStringLiteral("&lt;b&gt;x&lt;/b&gt; &amp; y")},
                      NotifyCase{"no_server", false, QStringLiteral("walk"), QString()}),
    ParamName());

} // namespace
