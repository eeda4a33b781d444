#include "ui/form1_controls.h"

#include <stdexcept>
#include <string>

namespace {

using K = ControlKind;
using E = EntryChoice;
namespace id = control_id;

constexpr int kLabelHeight = 19;
constexpr int kEditHeight = 27;
constexpr int kStageButtonHeight = 25;
constexpr int kScenarioButtonHeight = 41;

constexpr ControlSpec kControls[] = {
    {id::Image1, 0, K::Banner, L"", true, {}, 201},
    {id::Image2, 0, K::Picture, L"", true, {}, 21},
    {id::Button2, 0, K::Button, L"Создать базу данных Kalvera 1C", false, {}, kStageButtonHeight},
    {id::Button3, 0, K::Button, L"Скачать конфигурацию базы Kalvera 1C", false, {}, kStageButtonHeight},
    {id::Button4, 0, K::Button, L"Обновить конфигурацию базы Kalvera 1C", false, {}, kStageButtonHeight},
    {id::Button5, 0, K::Button, L"Применить обновления конфигурации", false, {}, kStageButtonHeight},
    {id::Button6, 0, K::Button, L"Полная установка (+1с учебная версия)", true, E::Button6, kScenarioButtonHeight},
    {id::ProgressBar1, 0, K::ProgressBar, L"", true, {}, 27},
    {id::Button1, 0, K::Button, L"Запустить 1С в режиме предприятия", false, {}, kStageButtonHeight},
    {id::StatusBar1, 0, K::StatusBar, L"", true, {}, 19},
    {id::Button7, 0, K::Button, L"Создать и установить базу Kalvera 1C", true, E::Button7, kScenarioButtonHeight},
    {id::Button8, 0, K::Button, L"Найти запущенные 1С", false, {}, kStageButtonHeight},
    {id::Button9, 0, K::Button, L"Обновить базу Kalvera 1С", true, E::Button9, kScenarioButtonHeight},
    {id::CheckBox1, 0, K::CheckBox, L"В базе есть пользователь с правами на конфигуратор", true, E::CheckBox1, 35},
    {id::Panel1, 0, K::Panel, L"", false, E::Panel1, 114},
    {id::Label2, id::Panel1, K::Label, L"Имя пользователя", true, {}, kLabelHeight, id::Edit2},
    {id::Edit2, id::Panel1, K::Edit, L"", true, {}, kEditHeight},
    {id::Label3, id::Panel1, K::Label, L"Пароль пользователя", true, {}, kLabelHeight, id::Edit3},
    {id::Edit3, id::Panel1, K::PasswordEdit, L"", true, {}, kEditHeight},
    {id::CheckBox2, 0, K::CheckBox, L"Серверная база данных", true, E::CheckBox2, 17},
    {id::Panel2, 0, K::Panel, L"", false, E::Panel2, 111},
    {id::Label4, id::Panel2, K::Label, L"Сервер БД (Srvr)", true, {}, kLabelHeight, id::Edit4},
    {id::Edit4, id::Panel2, K::Edit, L"", true, {}, kEditHeight},
    {id::Label5, id::Panel2, K::Label, L"База (ref)", true, {}, kLabelHeight, id::Edit5},
    {id::Edit5, id::Panel2, K::Edit, L"", true, {}, kEditHeight},
    {id::Panel3, 0, K::Panel, L"", true, E::Panel3, 69},
    {id::Label1, id::Panel3, K::Label, L"Путь к базе Kalvera 1C", true, {}, kLabelHeight, id::Edit1},
    {id::Edit1, id::Panel3, K::Edit, L"", true, {}, kEditHeight},
};

}  // namespace

std::span<const ControlSpec> MainWindowControls() { return kControls; }

const ControlSpec& ControlOf(int control) {
  for (const ControlSpec& spec : kControls) {
    if (spec.id == control) return spec;
  }
  throw std::out_of_range("no control " + std::to_string(control) + " on the main window");
}

int ControlIdOf(EntryChoice choice) {
  for (const ControlSpec& spec : kControls) {
    if (spec.entry_choice == choice) return spec.id;
  }
  return 0;
}

int ControlIdOf(EditName edit) {
  switch (edit) {
    case EditName::Edit1: return id::Edit1;
    case EditName::Edit2: return id::Edit2;
    case EditName::Edit3: return id::Edit3;
    case EditName::Edit4: return id::Edit4;
    case EditName::Edit5: return id::Edit5;
  }
  return 0;
}

const wchar_t* FieldCaption(EditName edit) {
  const int field = ControlIdOf(edit);
  for (const ControlSpec& spec : kControls) {
    if (spec.labels == field) return spec.caption;
  }
  return L"";
}
