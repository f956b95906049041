#pragma once

#include "output/PlayerTarget.h"

#include <QList>
#include <QString>

namespace zev {

// The targets ZEV knows, one or more for each family of players: the first
// is the default one, whose options are the specified default output.
class PlayerTargets {
public:
    static const QList<PlayerTarget>& all();
    static const PlayerTarget& defaultTarget() { return all().first(); }
    // Nothing for a name no target has.
    static const PlayerTarget* find(const QString& name);
    static QStringList names();
};

} // namespace zev
