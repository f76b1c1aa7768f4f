// Fixed texts of the installer pages.
#pragma once

#define PRODUCT_WEB_SITE L"www.pikeharbour.example"

#define TEXT_CHOOSE_LANGUAGE L"Choose a language - Wählen Sie eine Sprache"

#define AGREEMENT_TEXT_DE                                                                    \
    L"Nutzungsvereinbarung\n\nDieses Programm wird in der vorliegenden Form zur Verfügung " \
    L"gestellt. Velmar-Consulting ist nicht verantwortlich für irgendwelche Schäden, die "    \
    L"der Tamsel's PikeHarbour Software zugeschrieben werden. Sie werden gewarnt, dass Sie " \
    L"Tamsel's Pikeharbour auf eigene Gefahr verwenden. Es werden keinerlei Garantien "      \
    L"durch Velmar-Consulting oder einen Vertreter gewährt.\n\nDie Benutzung der Tamsel's "  \
    L"Pikeharbour Software ist Freeware und darf kostenfrei von " PRODUCT_WEB_SITE           \
    L" geladen und verwendet werden. Sie dürfen die Inhalte der Pikeharbourdateien nicht "   \
    L"verändern oder zu kommerziellen Zwecken nutzen.\n\nVelmar-Consulting behält sich "     \
    L"alle Rechte an diesem Programm und seinen Inhalten vor."

#define AGREEMENT_TEXT_EN                                                                    \
    L"User Agreement\n\nThis program is provided 'AS IS'. Velmar-Consulting is Not "         \
    L"responsible for any damages attributed to Tamsel's PikeHarbour. You are warned that "  \
    L"you use Tamsel's Pikeharbour at your own risk. No warranties are implied Or given by " \
    L"Velmar-Consulting or any representative.\n\nThe Tamsel's Pikeharbour software is "     \
    L"freeware and may be downloaded installed and uesed free of charge from "               \
    PRODUCT_WEB_SITE L" . You may not modify or change the contents of the original "        \
    L"programm or use Tamsel's Pikeharbour for commercial purposes.\n\nVelmar-Consulting "   \
    L"reserves all rights to this programme and contents."
