#pragma once
// The start preparation every command needs, GUI or not: environment variables, the start
// directory and the executable's directory as the current one. QtCore only, so that the
// launcher can run a headless command without the GUI libraries.
namespace zemFinder {

// The platform's name as started programs see it in OS.
const char* platform_os_name();
void set_env_variables();
// What main does before a headless command runs; the GUI's start does this and more.
void prepare_headless_start();

} // namespace zemFinder
