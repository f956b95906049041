#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace zev {

// A scratch folder for one test, removed with everything in it at the end.
class TemporaryFolder {
public:
    TemporaryFolder();

    bool isValid() const { return dir_.isValid(); }
    QString path() const { return dir_.path(); }
    QString filePath(const QString& name) const { return dir_.filePath(name); }

    // Creates an empty file (and any missing parent folders); returns its path.
    QString touch(const QString& name, const QByteArray& content = {}) const;
    QString makeFolder(const QString& name) const;
    void touchAll(const QStringList& names) const;

private:
    QTemporaryDir dir_;
};

} // namespace zev
