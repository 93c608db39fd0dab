// The dialog templates of the program's resources, as data.
#pragma once

void Register_Dialog_Templates();
bool Dialog_Templates_Registered();
