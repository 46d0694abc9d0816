#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QTemporaryDir>

// A fresh folder on disk for one test, with helpers to make files with given
// names (as bytes, so names that are not UTF-8 can be made), contents,
// attributes and modification times.
class TempFolder final
{
public:
    TempFolder();

    QString path() const { return m_dir.path(); }
    QByteArray encodedPath() const;
    QString filePath(const QString &name) const;

    // Creates a file; returns its path.
    QString addFile(const QString &name, const QByteArray &content = {});
    void addRawFile(const QByteArray &name, const QByteArray &content = {});
    void addFolder(const QString &name);

    void setReadOnly(const QString &name, bool on);
    // Stores attribute bits in user.DOSATTRIB (text form); false where the
    // file system keeps no user attributes.
    bool setDosAttributes(const QString &name, int bits);
    void setModified(const QString &name, const QDateTime &time);

    bool exists(const QString &name) const;
    QByteArray content(const QString &name) const;
    // The names in the folder, sorted, as bytes.
    QList<QByteArray> rawNames() const;
    QStringList names() const;

private:
    QTemporaryDir m_dir;
};
