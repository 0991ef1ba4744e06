#pragma once
// What the installation puts on a freedesktop desktop for one user: three launchers (on the
// desktop, in the program menu, and the "Send To" entry whose MIME list puts Kestrel in "Open
// With"), the MIME package for the types without a shared name, and the default programs of the
// chosen types in mimeapps.list. Removing takes away exactly that: launchers and the package only
// when they carry our marker, defaults only where they still name our entry.
//
// A system-wide installation (a package) already provides the "Send To" entry with the program
// menu item, and the MIME package; a user's installation then writes only the user's own choices.

#include <QString>
#include <QStringList>

namespace kestrel {

// The "Links"/"Locations" bits.
enum TLauncherBits { lbDesktop = 1, lbStartMenu = 2, lbSendTo = 4 };

struct TDesktopChoice {
  int Locations = lbDesktop | lbStartMenu | lbSendTo;
  int Extensions = 0; // the "Associations"/"Extensions" bits
};

class TDesktopIntegration {
public:
  // program: what the launchers start.
  explicit TDesktopIntegration(const QString& program);

  // The entry the defaults name (the "Send To" entry, or the package's launcher).
  static const char kEntryId[];

  QString DesktopLauncher() const;
  QString MenuLauncher() const;
  QString SendToEntry() const;
  QString MimePackage() const;

  // Each returns the problems met, as sentences for the user; empty when all went well.
  // The desktop and menu launchers as choice says, and the "Send To" entry with the package.
  QStringList ApplyLaunchers(const TDesktopChoice& choice) const;
  // The "Send To" entry with the package, then the checked types' defaults. An unchecked type
  // keeps whatever default it has.
  QStringList ApplyFileTypes(const TDesktopChoice& choice) const;
  QStringList Remove() const;

private:
  // What a changed set of files asks the desktop to re-read.
  struct TChanges {
    bool Applications = false;
    bool MimePackage = false;
  };
  void PlaceHandler(const TDesktopChoice& choice, TChanges& changes, QStringList& problems) const;
  void SetDefaults(const QStringList& types, QStringList& problems) const;
  void ResetDefaults(QStringList& problems) const;
  static void Refresh(const TChanges& changes, QStringList& problems);
  // The types whose default is our entry now.
  static QStringList TypesNamingUs();
  static bool SystemProvides(const QString& relative);
  QString IconName() const;

  QString Program;
};

} // namespace kestrel
