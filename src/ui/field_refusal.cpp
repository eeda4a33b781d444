#include "ui/field_refusal.h"

#include "ui/form1_controls.h"

namespace {

// «A», «B» и «C»
std::wstring Named(const std::vector<EditName>& fields) {
  std::wstring names;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) names += i + 1 == fields.size() ? L" и " : L", ";
    names += std::wstring(L"«") + FieldCaption(fields[i]) + L"»";
  }
  return names;
}

const wchar_t* Character(Uncarriable what) {
  switch (what) {
    case Uncarriable::Quote: return L"двойная кавычка (\")";
    case Uncarriable::ControlCharacter: return L"управляющий символ";
    case Uncarriable::PercentPair: return L"пара знаков процента (%...%)";
    case Uncarriable::PercentAcross: break;  // its own sentence
  }
  return L"";
}

}  // namespace

std::wstring FieldRefusalMessage(const FieldRefusal& refusal) {
  if (refusal.what == Uncarriable::PercentAcross) {
    return L"Поля " + Named(refusal.fields) +
           L" вместе содержат пару знаков процента (%...%), которую нельзя передать платформе. "
           L"Исправьте значения и начните снова";
  }
  return L"Поле " + Named(refusal.fields) + L" содержит символ, который нельзя передать платформе: " +
         Character(refusal.what) + L". Исправьте значение и начните снова";
}
