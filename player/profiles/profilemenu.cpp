// The profile items of the menu "Настройки": save the current profile, save it under a new name,
// and load one of the profiles in the folder "Profile".
#include "player/form1.h"

#include "platform/programfolder.h"
#include "platform/usermessages.h"
#include "player/profiles/profilelist.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

namespace player {
namespace {

std::string trimmedName(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

void TForm1::buildProfileMenu()
{
    N33 = new QAction(QStringLiteral("Сохранить профиль"), this);
    N33->setObjectName(QStringLiteral("N33"));
    mSaveProfileAs = new QAction(QStringLiteral("Сохранить профиль как..."), this);
    mSaveProfileAs->setObjectName(QStringLiteral("mSaveProfileAs"));
    mLoadProfile = new QMenu(QStringLiteral("Загрузить профиль"), this);
    mLoadProfile->setObjectName(QStringLiteral("mLoadProfile"));
    mLoadProfile->menuAction()->setObjectName(QStringLiteral("mLoadProfileItem"));
    mLoadProfile->menuAction()->setEnabled(false);  // until FillProfileMenu finds a profile
    mSettings->addAction(N33);
    mSettings->addAction(mSaveProfileAs);
    mSettings->addMenu(mLoadProfile);
    connect(N33, &QAction::triggered, this, [this] { N33Click(); });
    connect(mSaveProfileAs, &QAction::triggered, this, [this] { mSaveProfileAsClick(); });
}

void TForm1::FillProfileMenu()
{
    mLoadProfile->clear();
    // More files than the menu holds: the first ones in name order are offered.
    ProfilePaths = listProfiles(platform::programPath("Profile"), kMaxProfiles);
    for (std::size_t k = 0; k < ProfilePaths.size(); ++k) {
        QString caption = QString::fromStdString(profileCaption(ProfilePaths[k]));
        caption.replace(QLatin1Char('&'), QStringLiteral("&&"));  // no accelerator from a name
        QAction* item = mLoadProfile->addAction(caption);
        const int tag = static_cast<int>(k) + 1;
        item->setData(tag);
        connect(item, &QAction::triggered, this, [this, tag] { m_loadprf(tag); });
    }
    mLoadProfile->menuAction()->setEnabled(!ProfilePaths.empty());
}

void TForm1::m_loadprf(int tag)
{
    if (tag >= 1 && static_cast<std::size_t>(tag) <= ProfilePaths.size())
        LoadProfile(std::string(ProfilePaths[static_cast<std::size_t>(tag - 1)]));
}

void TForm1::N33Click()
{
    if (CurrentProfile == "noname")
        mSaveProfileAsClick();
    else
        SaveProfile(CurrentProfile);
}

void TForm1::mSaveProfileAsClick()
{
    // The boxes are titled as the menu item reads in the language in force.
    const std::string caption = mSaveProfileAs->text().remove(QLatin1Char('&')).toStdString();
    std::string typed = CurrentProfile == "noname" ? std::string() : profileCaption(CurrentProfile);
    if (!platform::userMessages().inputQuery(caption, Texts.Text(PlayerText::ProfileName), typed))
        return;
    const std::string name = trimmedName(typed);
    if (!validProfileName(name)) {
        platform::messageBox(
            Texts.Text(PlayerText::InvalidProfileName) + "\r\n" + Texts.Text(PlayerText::ProfileNameRule), caption,
            platform::MB_OK | platform::MB_ICONWARNING);
        return;
    }
    const std::string path = platform::programPath("Profile/" + profileFileName(name));
    if (QFileInfo::exists(QString::fromStdString(path)) && path != CurrentProfile &&
        platform::messageBox(Texts.Text(PlayerText::ReplaceProfile, {profileCaption(path)}), caption,
                             platform::MB_YESNO | platform::MB_ICONQUESTION) != platform::IDYES)
        return;
    SaveProfile(path);
}

}  // namespace player
