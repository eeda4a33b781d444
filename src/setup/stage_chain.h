#pragma once
// The stage chain: every handler of the three scenarios, in the order the chain runs
// them. A handler does its work and then clicks the next stage's button itself or
// enables a timer; a timer scans the process list on every tick and moves the chain on
// once what it waits for has happened. The status texts are stage_text's constants.
//
//   start-up           FormCreate: Button8Click (the guard: kCloseAllPlatforms), the
//                      question whom the base is for, the user name, the default folder
//   full installation  Button6Click: kDownloadingPlatform, kUnpackingPlatform, the setup
//                        program started, kWaitingForSetup; enables expectation_start_setup
//                      expectation_start_setupTimer: the setup program seen -> expectation
//                      expectationTimer: the setup program gone -> start_1C, and the
//                        message kStartPlatform; then as the new base installation
//   new base (Button7Click) and update (Button9Click): the message kStartPlatform, then
//                      start_1C
//                      start_1CTimer: kWaitingForPlatform; a platform seen: kPreparing,
//                        path_1c, the kill; with first_install kCreatingBase,
//                        Button2Click (base creation), Button1Click (user mode); -> exit_1c
//                      exit_1cTimer: kClosePlatform while one runs; gone -> Button3Click
//                      Button3Click: kDownloadingConfiguration; downloaded -> Button4Click
//                      Button4Click: kLoadingConfiguration, the configuration load -> update_conf
//                      update_confTimer: the load ended -> Button5Click
//                      Button5Click: kAcceptingChanges; update_conf_2, the database update
//                      update_conf_2Timer: the update ended -> Button1Click (user mode),
//                        the termination request
#include "platform/command_lines.h"
#include "setup/session.h"

// Start-up of the main window, run once its controls exist and before it is shown: the
// guard, the question whom the base is for when the utility runs as another user than
// the one at the desk (not asked once the guard has asked to end), the user name, the
// removal of the download folder, the window fitted into the work area (as high or as
// wide as it, when it is lower or narrower than the window) and centred on it, the default base
// folder. A termination request from the guard or the question does not cut it short.
void FormCreate(Form1& form);
// The start-up guard: for every platform process of the session a modal message, then a
// termination request. Always returns to its caller, which goes on with start-up.
void Button8Click(Form1& form);

// Full installation: downloads and unpacks the platform package into the run folder,
// starts its setup program there and waits for it. Raises Error when the download folder
// can be neither made nor found, when the run folder cannot be made, when the download or
// extraction fails, or when the package holds no setup program.
void Button6Click(Form1& form);
// New base installation: asks the user to start the platform, then waits for it.
void Button7Click(Form1& form);
// Base update: the same, without creating the base.
void Button9Click(Form1& form);

void expectation_start_setupTimer(Form1& form);
void expectationTimer(Form1& form);
void start_1CTimer(Form1& form);

// User-mode run ("ENTERPRISE"); assigns `server` and, with credentials, `pas_1c`.
void Button1Click(Form1& form);
// Base creation ("createinfobase"); reads no credentials and assigns nothing.
void Button2Click(Form1& form);

void exit_1cTimer(Form1& form);

// Replaces the configuration file with a fresh download into the run folder (made when
// none is there), copies it to the configuration file's place and clicks Button4. Raises
// Error when the download folder can be neither made nor found, when the run folder cannot
// be made, when the download fails or the copy cannot be made; the configuration load is
// then not started.
void Button3Click(Form1& form);
// Configuration load of the run folder's configuration file; pauses 3000 ms, then enables
// `update_conf`.
void Button4Click(Form1& form);
void update_confTimer(Form1& form);
// Database update; enables `update_conf_2` before it starts the platform.
void Button5Click(Form1& form);
void update_conf_2Timer(Form1& form);

// Starts the hidden command and logs it as the command processor receives it, with the
// password masked. Raises Error, and starts and logs nothing, when the command processor
// cannot run it unchanged (UnrunnableCommandText, over the paths the session knows).
void RunHidden(Form1& form, const HiddenCommand& command);
// The same, with `folder` as the current folder of the command and what it starts.
void RunHiddenIn(Form1& form, const HiddenCommand& command, const std::wstring& folder);
// The same, keeping the run so that a later step can wait for its end.
std::unique_ptr<CommandRun> RunHiddenTracked(Form1& form, const HiddenCommand& command);

using TickHandler = void (*)(Form1&);
// The handler that a tick of `timer` runs.
TickHandler TickHandlerOf(TimerName timer);

// The input fields as the controls hold them at this moment.
CommandFields FieldsOf(const Controls& controls);
// What a scenario handler asks first: false, after a modal message that names the field,
// when a field the commands would pass holds a character the command processor cannot
// carry unchanged. Nothing else changes.
bool FieldsCanBePassed(Form1& form);
