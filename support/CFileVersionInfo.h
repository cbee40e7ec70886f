#pragma once

#include <QString>

namespace lumora {

// Reads the version resource of a file and offers its parts as display strings: the
// numeric versions, names for the flags, target system, type and sub-type, the language
// of the first translation and the standard string-table entries.
//
// Fields keep the values of an earlier read wherever the new file gives nothing for them
// (no version resource, no translation, a type without sub-types); only Available is
// always brought up to date.
class CFileVersionInfo
{
public:
    // Normalises the path and reads the file; an empty path changes nothing.
    void setFullPathName(const QString &newVal);
    QString FullPathName() const { return m_fullPathName; }
    bool Available() const { return m_available; }

    QString FileFlags() const { return m_fileFlags; }
    QString FileOS() const { return m_fileOS; }
    QString FileType() const { return m_fileType; }
    QString FileSubType() const { return m_fileSubType; }
    QString VerFile() const { return m_verFile; }
    QString VerProduct() const { return m_verProduct; }
    QString VerStructure() const { return m_verStructure; }

    // Display name of predefined entry 0..14 ("Language", "Comments", "Company Name", ...);
    // empty for any other index.
    static QString PredefinedName(qint32 which);
    // Current value of predefined entry 0..14; empty for any other index.
    QString PredefinedValue(qint32 which) const;

    QString Comments() const { return m_comments; }
    QString CompanyName() const { return m_companyName; }
    QString FileDescription() const { return m_fileDescription; }
    QString FileVersion() const { return m_fileVersion; }
    QString FileVersionMajor() const { return m_fileVersionMajor; }
    QString InternalName() const { return m_internalName; }
    QString Language() const { return m_language; }
    QString LegalCopyright() const { return m_legalCopyright; }
    QString LegalTrademarks() const { return m_legalTrademarks; }
    QString OriginalFilename() const { return m_originalFilename; }
    QString ProductName() const { return m_productName; }
    QString ProductVersion() const { return m_productVersion; }
    QString PrivateBuild() const { return m_privateBuild; }
    QString SpecialBuild() const { return m_specialBuild; }

    // Reads the file named by FullPathName again.
    void Refresh();

private:
    void readFixedInfo(const void *block);
    void readStrings(const void *block);

    QString m_fullPathName;
    bool m_available = false;
    QString m_verStructure;
    QString m_verFile;
    QString m_fileVersionMajor;
    QString m_verProduct;
    QString m_fileFlags;
    QString m_fileOS;
    QString m_fileType;
    QString m_fileSubType;
    QString m_language;
    QString m_comments;
    QString m_companyName;
    QString m_fileDescription;
    QString m_fileVersion;
    QString m_internalName;
    QString m_legalCopyright;
    QString m_legalTrademarks;
    QString m_originalFilename;
    QString m_productName;
    QString m_productVersion;
    QString m_privateBuild;
    QString m_specialBuild;
    QString m_legalTrademarks1;
    QString m_legalTrademarks2;
};

} // namespace lumora
