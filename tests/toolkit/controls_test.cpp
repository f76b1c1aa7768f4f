#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "toolkit_support.h"
#include "toolkit/controls.h"
#include "toolkit/events.h"
#include "toolkit/windows.h"
#include "runtime/registry.h"

namespace {

class ControlsTest : public WindowTestBase {
protected:
    void SetUp() override { open_window(100, 200, 800, 610, L"Controls"); }
};

TEST_F(ControlsTest, ContainersHoldExactlyTheControlsCreatedWhileOpen) {
    container_create(20, 0, 0, 200, 200, CONTAINER_CLIENT_EDGE);
    button_create(21, 0, 0, 50, 20, L"");
    label_create(22, 0, 30, 50, 20, L"");
    control_list_close();
    container_create(30, 200, 0, 200, 200, CONTAINER_CLIENT_EDGE);
    text_field_create(31, 0, 0, 50, 20, L"");
    control_list_close();
    container_create(40, 400, 0, 200, 200, CONTAINER_CLIENT_EDGE);
    option_create(41, 0, 0, 50, 20, L"");
    option_create(42, 0, 30, 50, 20, L"");
    control_list_close();
    button_create(50, 0, 300, 50, 20, L"");
    control_list_close();   // nothing open: ignored
    button_create(51, 0, 340, 50, 20, L"");
    struct Placement {
        int64_t control;
        HWND parent;
    };
    const Placement placements[] = {
        {20, hwnd},              {21, control_handle(20)}, {22, control_handle(20)},
        {30, hwnd},              {31, control_handle(30)}, {40, hwnd},
        {41, control_handle(40)}, {42, control_handle(40)}, {50, hwnd}, {51, hwnd}};
    for (const Placement& placement : placements) {
        EXPECT_EQ(GetParent(control_handle(placement.control)), placement.parent)
            << "control " << placement.control;
    }
}

TEST_F(ControlsTest, ProgramChangesQueueNothingButAUsersClickDoes) {
    int64_t button = button_create(ANY_ID, 20, 20, 120, 40, L"Press");
    int64_t field = text_field_create(ANY_ID, 20, 80, 200, 24, L"");
    int64_t label = label_create(ANY_ID, 20, 120, 200, 24, L"");
    pump();
    drain();
    control_set_text(field, L"changed by program");
    control_set_text(label, L"Save & exit");
    control_set_state(button, 1);
    control_set_state(label, 1);
    pump();
    EXPECT_TRUE(drain_code(EVENT_GADGET).empty());
    EXPECT_EQ(control_text(field), L"changed by program");
    EXPECT_EQ(control_text(label), L"Save & exit");
    EXPECT_EQ(control_get_state(label), 0);
    bring_to_front(hwnd);
    drain();
    click_with_mouse(control_handle(button));
    std::vector<QueuedEvent> expected = {{EVENT_GADGET, button, BN_CLICKED}};
    EXPECT_EQ(await_code(EVENT_GADGET, expected.size()), expected);
}

TEST_F(ControlsTest, TypingOneCharacterQueuesUpdateThenChange) {
    int64_t field = text_field_create(ANY_ID, 20, 20, 200, 24, L"");
    bring_to_front(hwnd);
    SetFocus(control_handle(field));
    pump();
    drain();
    type_character(L'x');
    std::vector<QueuedEvent> expected = {{EVENT_GADGET, field, EN_UPDATE},
                                         {EVENT_GADGET, field, EN_CHANGE}};
    EXPECT_EQ(await_code(EVENT_GADGET, expected.size()), expected);
    EXPECT_EQ(control_text(field), L"x");
}

TEST_F(ControlsTest, FocusOfATextFieldIsReported) {
    int64_t button = button_create(ANY_ID, 20, 60, 100, 30, L"");
    int64_t field = text_field_create(ANY_ID, 20, 20, 200, 24, L"");
    bring_to_front(hwnd);
    SetFocus(control_handle(button));
    pump();
    drain();
    SetFocus(control_handle(field));
    SetFocus(control_handle(button));
    pump();
    std::vector<QueuedEvent> focus;
    for (const QueuedEvent& event : drain_code(EVENT_GADGET)) {
        if (event.subtype == GADGET_FOCUS_GAINED || event.subtype == GADGET_FOCUS_LOST) {
            focus.push_back(event);
        }
    }
    std::vector<QueuedEvent> expected = {{EVENT_GADGET, field, GADGET_FOCUS_GAINED},
                                         {EVENT_GADGET, field, GADGET_FOCUS_LOST}};
    EXPECT_EQ(focus, expected);
}

TEST_F(ControlsTest, OptionPairsSeparatedByAButtonAreIndependentGroups) {
    int64_t options[4];
    options[0] = option_create(ANY_ID, 20, 20, 100, 20, L"A");
    options[1] = option_create(ANY_ID, 20, 40, 100, 20, L"B");
    button_create(ANY_ID, 20, 60, 100, 30, L"");
    options[2] = option_create(ANY_ID, 20, 100, 100, 20, L"C");
    options[3] = option_create(ANY_ID, 20, 120, 100, 20, L"D");
    struct Step {
        int index;
        int64_t state;
        int64_t expected[4];
    };
    const Step steps[] = {
        {2, 1, {0, 0, 1, 0}}, {0, 1, {1, 0, 1, 0}}, {1, 1, {0, 1, 1, 0}},
        {3, 1, {0, 1, 0, 1}}, {1, 0, {0, 0, 0, 1}},   // unchecking leaves the group empty
    };
    for (const Step& step : steps) {
        control_set_state(options[step.index], step.state);
        for (int i = 0; i < 4; i++) {
            EXPECT_EQ(control_get_state(options[i]), step.expected[i])
                << "option " << i << " after setting " << step.index;
        }
    }
    pump();
    EXPECT_TRUE(drain_code(EVENT_GADGET).empty());
}

TEST_F(ControlsTest, LabelShowsTheAmpersandAsTyped) {
    int64_t label = label_create(ANY_ID, 20, 20, 200, 24, L"Save & exit");
    LONG_PTR style = GetWindowLongPtrW(control_handle(label), GWL_STYLE);
    EXPECT_TRUE(style & SS_NOPREFIX);
    EXPECT_EQ(control_text(label), L"Save & exit");
}

TEST_F(ControlsTest, TextFieldLengthLimitIsAtLeastOne) {
    int64_t field = text_field_create(ANY_ID, 20, 20, 200, 24, L"");
    control_set_attribute(field, 1, 0);
    EXPECT_EQ(control_get_attribute(field, 1), 1);
    control_set_attribute(field, 1, 80);
    EXPECT_EQ(control_get_attribute(field, 1), 80);
    EXPECT_EQ(control_get_attribute(field, 2), 0);
}

TEST_F(ControlsTest, ClosingTheWindowFreesIdsAndDropsTheirEvents) {
    container_create(60, 0, 0, 300, 300, CONTAINER_CLIENT_EDGE);
    button_create(61, 0, 0, 50, 20, L"");
    text_field_create(62, 0, 30, 50, 20, L"");
    control_list_close();
    label_create(63, 0, 400, 50, 20, L"");
    pump();
    drain();
    event_post(EVENT_GADGET, 61, window, 0);
    event_post(EVENT_GADGET, 999, 12345, 0);
    event_post(EVENT_GADGET, 62, window, EN_CHANGE);
    window_close(window);
    for (int64_t id : {60, 61, 62, 63}) {
        EXPECT_EQ(control_handle(id), nullptr) << "control " << id;
    }
    EXPECT_EQ(window_handle(window), nullptr);
    std::vector<QueuedEvent> expected = {{EVENT_GADGET, 999, 0}};
    EXPECT_EQ(drain(), expected);
    window = window_open(ANY_ID, 0, 0, 100, 100, L"", WINDOW_PLAIN);   // for TearDown
}

}  // namespace
