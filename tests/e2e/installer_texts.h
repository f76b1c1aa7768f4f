// Every text the installer shows, in both languages, as the user must see
// it.
#pragma once
#include <string>

enum Language { GERMAN = 0, ENGLISH = 1 };

struct PageTexts {
    const wchar_t* next;
    const wchar_t* language_cancel;
    const wchar_t* cancel;
    const wchar_t* maintenance_label;
    const wchar_t* reinstall;
    const wchar_t* remove;
    const wchar_t* accept;
    const wchar_t* decline;
    const wchar_t* agreement_start;
    const wchar_t* agreement_end;
    const wchar_t* cancel_question;
    const wchar_t* confirm_install;   // M1
    const wchar_t* backup_notice;     // M2, followed by the backup folder
    const wchar_t* reinstall_warning; // M3
    const wchar_t* rights_error_title;
    const wchar_t* rights_error_head; // M4, then the folder, then the tail
    const wchar_t* rights_error_tail;
    const wchar_t* success;           // M5
    const wchar_t* confirm_removal;   // R1
    const wchar_t* removal_done;      // R2
    const wchar_t* folder_failed_head;  // then the folder, then the tail
    const wchar_t* folder_failed_tail;
    const wchar_t* removal_in_use;
};

extern const PageTexts page_texts[2];
extern const wchar_t* const LANGUAGE_LABEL_TEXT;
