#pragma once

#include <QHash>
#include <QMap>
#include <QString>
#include <QTranslator>
#include <QVariantList>

// The application's translator: every text of the scene (each qsTr) and the texts of the
// system fault numbers come from JSON language files in one directory:
//   "langs.json"      the offered languages: [{langCode, name, countryCode, filename}, ...]
//   <filename>.json   {"GUI": {source text: translation}, "syserror": {"42": fault text}}
// Files are UTF-8; a leading byte-order mark is skipped. A missing, unreadable, oversized
// or broken file is silent: the texts stay English and faults show their number.
class JSONTranslator : public QTranslator
{
    Q_OBJECT
public:
    // Language files larger than this are not read (a real one is a few kilobytes).
    static constexpr qint64 MaxFileSize = 1024 * 1024;

    // `devicePath` is the directory on the tool ("/home/tool/config/langs/"); every read
    // maps it into the system root.
    explicit JSONTranslator(const QString& devicePath, QObject* parent = nullptr);

    // Loads <lang>.json; both tables are emptied first, so an unknown language leaves the
    // English source texts. Returns whether a file was loaded.
    bool setLanguage(const QString& lang);
    // The entries of "langs.json" ordered by name (by character code, not by locale).
    QVariantList getLanguages() const;
    // The text of a system fault number, or the number itself when there is none.
    QString getError(int code) const;

    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override;

    // The content of a language file without a leading EF BB BF, also stored in `data`;
    // empty when the file is missing, not a regular file or larger than MaxFileSize.
    static QByteArray removeBOM(const QString& hostPath, QByteArray& data);

private:
    QString hostPath(const QString& fileName) const;

    QString m_dir;
    QHash<QString, QString> m_translations;
    QMap<int, QString> m_errors;
};
