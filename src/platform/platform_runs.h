#pragma once
// The stage buttons that start the platform: user mode, base creation, configuration
// load and database update. Only the stage chain clicks them.
#include "app/session.h"
#include "platform/command_lines.h"

// The input fields as the controls hold them at this moment.
CommandFields FieldsOf(const Controls& controls);

// User-mode run ("ENTERPRISE"); assigns `server` and, with credentials, `pas_1c`.
void Button1Click(Form1& form);
// Base creation ("createinfobase"); reads no credentials and assigns nothing.
void Button2Click(Form1& form);
// Configuration load of the downloaded configuration file; pauses 3000 ms, then enables
// `update_conf`.
void Button4Click(Form1& form);
// Database update; enables `update_conf_2` before it starts the platform.
void Button5Click(Form1& form);

// What a scenario handler asks first: false, after a modal message that names the field,
// when a field the commands would pass holds a character the command processor cannot
// carry unchanged. Nothing else changes.
bool FieldsCanBePassed(Form1& form);
