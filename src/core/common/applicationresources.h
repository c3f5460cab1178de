#pragma once

#include <QString>
#include <QStringList>

// Finds the files the application ships (default settings, seed database, XML
// templates, sound, manuals) by name and type. They are looked for beside the
// executable ("../share/talvoren", the layout of both the build tree and an
// install) and then in the install prefix.
class ApplicationResources
{
public:
    // Path of "name.type" (or "name" when type is empty); empty when missing.
    static QString path(const QString& name, const QString& type = {});
    static QStringList searchDirectories();
    // Tests point the lookup at a folder of their own.
    static void setOverrideDirectory(const QString& directory);
};
