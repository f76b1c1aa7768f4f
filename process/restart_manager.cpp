// The Restart Manager through rstrtmgr.dll, looked up at run time: the
// setup imports only what every supported Windows has at start, and the
// library comes from the system folder alone.
#include "process/restart_manager.h"
#include <restartmanager.h>

typedef DWORD(WINAPI* StartSession)(DWORD*, DWORD, WCHAR*);
typedef DWORD(WINAPI* EndSession)(DWORD);
typedef DWORD(WINAPI* RegisterResources)(DWORD, UINT, LPCWSTR*, UINT, RM_UNIQUE_PROCESS*, UINT,
                                          LPCWSTR*);
typedef DWORD(WINAPI* GetList)(DWORD, UINT*, UINT*, RM_PROCESS_INFO*, DWORD*);
typedef DWORD(WINAPI* Shutdown)(DWORD, ULONG, RM_WRITE_STATUS_CALLBACK);

struct RestartManager {
    StartSession start;
    EndSession end;
    RegisterResources register_resources;
    GetList get_list;
    Shutdown shutdown;
};

static bool restart_manager_load(RestartManager* rm) {
    static HMODULE library = nullptr;
    if (library == nullptr) {
        library = LoadLibraryExW(L"rstrtmgr.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    if (library == nullptr) {
        return false;
    }
    rm->start = reinterpret_cast<StartSession>(GetProcAddress(library, "RmStartSession"));
    rm->end = reinterpret_cast<EndSession>(GetProcAddress(library, "RmEndSession"));
    rm->register_resources =
        reinterpret_cast<RegisterResources>(GetProcAddress(library, "RmRegisterResources"));
    rm->get_list = reinterpret_cast<GetList>(GetProcAddress(library, "RmGetList"));
    rm->shutdown = reinterpret_cast<Shutdown>(GetProcAddress(library, "RmShutdown"));
    return rm->start && rm->end && rm->register_resources && rm->get_list && rm->shutdown;
}

static bool session_open(RestartManager* rm, DWORD* session) {
    WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
    return restart_manager_load(rm) && rm->start(session, 0, key) == ERROR_SUCCESS;
}

int32_t restart_manager_users(const wchar_t* path, DWORD* ids, int32_t limit) {
    RestartManager rm;
    DWORD session = 0;
    if (!session_open(&rm, &session)) {
        return -1;
    }
    static RM_PROCESS_INFO found[IMAGE_USERS_LIMIT];
    UINT needed = 0;
    UINT count = IMAGE_USERS_LIMIT;
    DWORD reasons = 0;
    LPCWSTR files[1] = {path};
    DWORD result = rm.register_resources(session, 1, files, 0, nullptr, 0, nullptr);
    if (result == ERROR_SUCCESS) {
        result = rm.get_list(session, &needed, &count, found, &reasons);
    }
    rm.end(session);
    // ERROR_MORE_DATA: more users than the set would hold anyway.
    if (result != ERROR_SUCCESS) {
        return -1;
    }
    int32_t taken = 0;
    for (UINT i = 0; i < count && taken < limit; i++) {
        ids[taken++] = found[i].Process.dwProcessId;
    }
    return taken;
}

static int32_t collect_others(ImageUsers* users, RM_UNIQUE_PROCESS* chosen) {
    DWORD own = 0;
    if (!ProcessIdToSessionId(GetCurrentProcessId(), &own)) {
        return 0;
    }
    int32_t count = 0;
    for (int32_t i = 0; i < users->count; i++) {
        ImageUser* user = &users->users[i];
        if (user->state == USER_RUNNING && user->session != own) {
            chosen[count].dwProcessId = user->id;
            chosen[count].ProcessStartTime = user->started;
            count++;
        }
    }
    return count;
}

int32_t restart_manager_close_others(ImageUsers* users) {
    RM_UNIQUE_PROCESS chosen[IMAGE_USERS_LIMIT];
    int32_t count = collect_others(users, chosen);
    if (count == 0) {
        return 0;
    }
    RestartManager rm;
    DWORD session = 0;
    if (!session_open(&rm, &session)) {
        return -1;
    }
    if (rm.register_resources(session, 0, nullptr, static_cast<UINT>(count), chosen, 0,
                              nullptr) == ERROR_SUCCESS) {
        // No flags: without RmForceShutdown each program is asked as at a
        // logoff and may refuse (RmShutdownOnlyRegistered would do nothing
        // unless every program had registered for restart). Whether it
        // ended is decided by the wait afterwards.
        rm.shutdown(session, 0, nullptr);
    }
    rm.end(session);
    for (int32_t i = 0; i < users->count; i++) {
        for (int32_t j = 0; j < count; j++) {
            if (users->users[i].id == chosen[j].dwProcessId) {
                users->users[i].state = USER_ASKED;
            }
        }
    }
    return count;
}
