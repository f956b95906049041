#pragma once

#include <QString>
#include <string>

namespace zev {

// Turns a case's title into a test name GoogleTest accepts, so a failing
// table row reads "Folders/Refusals.NameTheProblem/gap" and not a byte dump.
struct ParamName {
    template <class Info> std::string operator()(const Info& info) const {
        QString name = QString::fromUtf8(info.param.title);
        for (QChar& ch : name) {
            if (!ch.isLetterOrNumber())
                ch = u'_';
        }
        return name.toStdString();
    }
};

} // namespace zev
