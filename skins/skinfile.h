// A skin file: INI text read the way the platform's private-profile calls read it. Only the
// section "Skin" counts; section and key names ignore case; values are trimmed, lose one pair
// of surrounding quotes and are cut at 2047 characters; the first of repeated keys wins.
#pragma once

#include <QHash>
#include <QString>
#include <optional>

class SkinFile {
public:
    // A file that cannot be read reads as one with every key missing.
    explicit SkinFile(const QString &path);
    // Reads the text of a skin file from memory.
    static SkinFile fromText(const QByteArray &text);

    QString readString(const QString &key, const QString &defaultValue) const;
    // Decimal, or hexadecimal after "$" or "0x"; anything else gives the default.
    int readInteger(const QString &key, int defaultValue) const;

    static std::optional<int> parseInteger(const QString &text);

private:
    SkinFile() = default;
    void parse(const QByteArray &text);

    QHash<QString, QString> m_values; // by lower-case key
};
