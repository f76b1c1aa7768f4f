// Times string building and list add/clear in the runtime against the
// same work with std::wstring and std::list in the same run, and prints
// each as a ratio (runtime time / standard time; below 1 is faster).
#include <windows.h>
#include <stdio.h>
#include <list>
#include <string>
#include "runtime/lists.h"
#include "runtime/runtime.h"
#include "runtime/strings.h"

static const int APPENDS = 20000;
static const int ELEMENTS = 100000;
static const int ROUNDS = 30;

static double now_us() {
    LARGE_INTEGER counter;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return 1e6 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Best of ROUNDS runs, in microseconds.
template <typename Work>
static double best_time(Work work) {
    double best = 1e300;
    for (int round = 0; round < ROUNDS; round++) {
        double start = now_us();
        work();
        double elapsed = now_us() - start;
        best = elapsed < best ? elapsed : best;
    }
    return best;
}

static volatile size_t g_sink;

static void runtime_strings() {
    wchar_t* text = nullptr;
    int64_t saved = temp_position();
    for (int i = 0; i < APPENDS; i++) {
        temp_append(L"piece");
    }
    string_assign_temp(&text, saved);
    g_sink = string_length(text);
    string_free(text);
}

static void standard_strings() {
    std::wstring built;
    for (int i = 0; i < APPENDS; i++) {
        built += L"piece";
    }
    std::wstring text = built;
    g_sink = text.size();
}

static void runtime_list() {
    LinkedList* list = list_create(sizeof(int64_t), nullptr, nullptr, 0);
    for (int i = 0; i < ELEMENTS; i++) {
        *static_cast<int64_t*>(list_add(list)) = i;
    }
    g_sink = static_cast<size_t>(list_size(list));
    list_clear(list);
    list_free(list);
}

static void standard_list() {
    std::list<int64_t> list;
    for (int i = 0; i < ELEMENTS; i++) {
        list.push_back(i);
    }
    g_sink = list.size();
    list.clear();
}

static void report(const char* name, double ours, double standard, const char* other) {
    printf("%-44s runtime %9.1f us  %-12s %9.1f us  ratio %.2f\n",
           name, ours, other, standard, ours / standard);
}

int main() {
    runtime_start();
    double ours = best_time(runtime_strings);
    double standard = best_time(standard_strings);
    report("string building (20000 appends, assign)", ours, standard, "std::wstring");
    ours = best_time(runtime_list);
    standard = best_time(standard_list);
    report("list add/clear (100000 elements)", ours, standard, "std::list");
    fflush(stdout);
    runtime_end();
}
