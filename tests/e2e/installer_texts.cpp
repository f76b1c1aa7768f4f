// The installer's texts, written out independently of its sources.
#include "installer_texts.h"

const wchar_t* const LANGUAGE_LABEL_TEXT = L"Choose a language - Wählen Sie eine Sprache";

const PageTexts page_texts[2] = {
    {
        L"Weiter",
        L"Abbruch",
        L"Abbrechen",
        L"Pikeharbour ist bereits installiert. Sie können erneut installieren oder die "
        L"Software entfernen!",
        L"Pikeharbour Software NEU installieren",
        L"Pikeharbour Software entfernen",
        L"Ich akzeptiere die Vereinbarung",
        L"Ich lehne die Vereinbarung ab",
        L"Nutzungsvereinbarung\n\nDieses Programm wird in der vorliegenden Form zur Verfügung "
        L"gestellt. Velmar-Consulting ist nicht verantwortlich für irgendwelche Schäden, die der "
        L"Tamsel's PikeHarbour Software zugeschrieben werden. Sie werden gewarnt, dass Sie "
        L"Tamsel's Pikeharbour auf eigene Gefahr verwenden. Es werden keinerlei Garantien durch "
        L"Velmar-Consulting oder einen Vertreter gewährt.\n\nDie Benutzung der Tamsel's "
        L"Pikeharbour Software ist Freeware und darf kostenfrei von ",
        L" geladen und verwendet werden. Sie dürfen die Inhalte der Pikeharbourdateien nicht "
        L"verändern oder zu kommerziellen Zwecken nutzen.\n\nVelmar-Consulting behält sich alle "
        L"Rechte an diesem Programm und seinen Inhalten vor.",
        L"Möchten SIe die Pikeharbour Installation verlassen?",
        L"'Pikeharbour_Setup.exe' wird Pikeharbour installieren!\n\nMöchten Sie jetzt "
        L"Pikeharbour installieren?",
        L"Eine Sicherheitskopie dieses Setupproramms wird in diesem Verzeichnis gespeichert:\n\n",
        L"Pikeharbour wurde schon installiert!\n\nMöchten Sie Pikeharbour erneut installieren?",
        L"Pikeharbour Setup Fehler",
        L"Wahrscheinlich haben Sie nicht die nötigen Rechte 'Pikeharbour64.exe' in das '",
        L"' Verzeichnis zu kopieren!\n\nBitte loggen Sie sich mit den nötigen Rechten auf dem "
        L"Computer ein und starten Pikeharboursetup erneut!",
        L"Die Installation wurde erfolgreich durchgeführt.\n\nBitte starten Sie Pikeharbour "
        L"durch Doppelklick auf der Desktopverknüpfung!",
        L"'Pikeharbour_Setup.exe' wird Pikeharbour deinstallieren!\n\nMöchten Sie jetzt "
        L"Pikeharbour deinstallieren?",
        L"'Pikeharbour64.exe' und Links wurden deinstalliert!\n\nPH Daten müssen manuell "
        L"gelöscht werden!",
        L"Der Ordner '",
        L"' konnte nicht angelegt werden.\n\nBitte wählen Sie einen anderen Ordner.",
        L"'Pikeharbour64.exe' wird gerade benutzt und konnte nicht gelöscht werden.\n\nBitte "
        L"beenden Sie Pikeharbour und starten Sie die Deinstallation erneut.",
    },
    {
        L"Next",
        L"Cancel",
        L"Cancel",
        L"Pikeharbour is already installed. You can reinstall or remove the software!",
        L"Re-install Pikeharbour Software",
        L"Remove Pikeharbour Software",
        L"I accept the terms in the Agreement",
        L"I do not accept the terms in the Agreement",
        L"User Agreement\n\nThis program is provided 'AS IS'. Velmar-Consulting is Not "
        L"responsible for any damages attributed to Tamsel's PikeHarbour. You are warned that "
        L"you use Tamsel's Pikeharbour at your own risk. No warranties are implied Or given by "
        L"Velmar-Consulting or any representative.\n\nThe Tamsel's Pikeharbour software is "
        L"freeware and may be downloaded installed and uesed free of charge from ",
        L" . You may not modify or change the contents of the original programm or use "
        L"Tamsel's Pikeharbour for commercial purposes.\n\nVelmar-Consulting reserves all rights "
        L"to this programme and contents.",
        L"Do you want to exit the Pikeharbour installation ?",
        L"'Pikeharbour_Setup.exe' will install Pikeharbour on your Computer!\n\nDo you want to "
        L"install Pikeharbour now?",
        L"A safety copy of this Setupfile is saved in the Folder:\n\n",
        L"Pikeharbour was already installed on your computer\n\nDo you want to reinstall "
        L"Pikeharbour ?",
        L"Pikeharbour Setup Error",
        L"You probably don't have the necessary user rights to copy 'Pikeharbour64.exe' into '",
        L"'!\n\nPlease get 'admin rights' for your computer and start Pikeharboursetup again!",
        L"Pikeharbour insallation successful.\n\nPlease start Pikeharbour by double click the "
        L"shortcut on your desktop!",
        L"'Pikeharbour_Setup.exe' will delete the Pikeharbour software from your Computer!\n\n"
        L"Do you want to de-install Pikeharbour now?",
        L"'Pikeharbour64.exe' and registred links were delete from your Computer!\n\nPH data "
        L"have to be deleted manually!",
        L"The folder '",
        L"' could not be created.\n\nPlease choose another folder.",
        L"'Pikeharbour64.exe' is in use and could not be deleted.\n\nPlease close Pikeharbour "
        L"and start the removal again.",
    },
};
