#pragma once

#include <QString>

namespace quvex {

// Names of the files under the two roots, in one place.
namespace FileNames {
inline const QString linkList = QStringLiteral("link_data.ini");
inline const QString phoneDirectory = QStringLiteral("tel_data.ini");
inline const QString changeRequests = QStringLiteral("tel_data_change.ini");
inline const QString photoFolder = QStringLiteral("picture/");
inline const QString photoSuffix = QStringLiteral(".jpg");
inline const QString placeholderPhoto = QStringLiteral("none_photo.png");
inline const QString screenshotTool = QStringLiteral("FSCapture.exe");
inline const QString tovikFolder = QStringLiteral("Tovik");
inline const QString tovikProgram = QStringLiteral("PSavro.exe");
inline const QString shortcutName = QStringLiteral("QUVEX");
inline const QString previousSuffix = QStringLiteral(".previous");
inline const QString signatureSuffix = QStringLiteral(".sig");
inline const QString rejectedBuild = QStringLiteral("quvex.rejected");
} // namespace FileNames

// The two roots of all files and the running executable. Folders end in '/'.
struct Locations {
    QString programFolder;
    QString shareRoot;
    QString executablePath;
    QString executableSuffix; // "" here, ".exe" on Windows
    // False when the program's folder cannot be named exactly (its name is not valid text): the
    // program then runs from where it is and writes nothing, since every path would be wrong.
    bool exactPaths = true;

    // ProgramFolder is the folder of the running executable.
    static Locations forExecutable(const QString& executablePath, const QString& shareRoot,
                                   const QString& executableSuffix);

    QString programFileName() const { return QStringLiteral("quvex") + executableSuffix; }
    QString carrierFileName() const { return QStringLiteral("u") + executableSuffix; }

    QString sharedLinkList() const { return shareRoot + FileNames::linkList; }
    QString localLinkList() const { return programFolder + FileNames::linkList; }
    QString sharedPhoneDirectory() const { return shareRoot + FileNames::phoneDirectory; }
    QString localPhoneDirectory() const { return programFolder + FileNames::phoneDirectory; }
    QString changeRequests() const { return shareRoot + FileNames::changeRequests; }
    QString photoFolder() const { return shareRoot + FileNames::photoFolder; }
    QString placeholderPhoto() const { return programFolder + FileNames::placeholderPhoto; }
    QString sharedProgram() const { return shareRoot + programFileName(); }
    QString localProgram() const { return programFolder + programFileName(); }
    QString updateCarrier() const { return programFolder + carrierFileName(); }
    QString screenshotTool() const { return programFolder + FileNames::screenshotTool; }
    QString previousProgram() const { return localProgram() + FileNames::previousSuffix; }
    QString rejectedBuild() const { return programFolder + FileNames::rejectedBuild; }
    QString sharedProgramSignature() const { return sharedProgram() + FileNames::signatureSuffix; }
};

} // namespace quvex
