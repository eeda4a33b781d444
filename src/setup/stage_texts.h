#pragma once
// What the chain shows. The letter after "1" differs from text to text on purpose:
// Latin "C", Cyrillic "С" (U+0421) or Cyrillic "с" (U+0441), each as the user knows it.

namespace stage_text {

inline constexpr wchar_t kDownloadingPlatform[] = L"Загрузка 1\u0441...";
inline constexpr wchar_t kUnpackingPlatform[] = L"Распаковка файлов 1\u0441...";
inline constexpr wchar_t kWaitingForSetup[] = L"Ожидание установки 1\u0421...";
inline constexpr wchar_t kWaitingForPlatform[] = L"Ожидание запуска 1\u0421...";
inline constexpr wchar_t kPreparing[] = L"Подготовка...";
inline constexpr wchar_t kCreatingBase[] = L"Создание базы 1\u0421...";
inline constexpr wchar_t kClosePlatform[] = L"Закройте 1\u0421 для продолжения";
inline constexpr wchar_t kDownloadingConfiguration[] = L"Загрузка базы Kalvera 1\u0441...";
inline constexpr wchar_t kLoadingConfiguration[] = L"Обновление конфигурации 1\u0421...";
inline constexpr wchar_t kAcceptingChanges[] = L"Ожидание принятия изменений...";
inline constexpr wchar_t kStartPlatform[] = L"Для продолжения установки запустите платформу 1\u0421";

// A platform that is not the one installed on the machine, named by its path (or, when
// that cannot be read, by its name and id), goes between these two.
inline constexpr wchar_t kNotInstalledPlatformBefore[] = L"Программа «";
inline constexpr wchar_t kNotInstalledPlatformAfter[] =
    L"» не является платформой 1\u0421, установленной на этом компьютере. Закройте её и запустите 1\u0421 из меню «Пуск».";

inline constexpr wchar_t kCloseAllPlatforms[] = L"Необходимо закрыть все 1\u0421";
inline constexpr wchar_t kAlreadyRunning[] = L"Установка уже запущена для этой учётной записи.";

}  // namespace stage_text
