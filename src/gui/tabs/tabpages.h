#pragma once

class Prompts;
class Qwr;

// The main window's central part, laid out for its start size and growing
// beyond it: the tab control `Tab1` with its pages (Books, Goals, Newgame,
// Missflag, Titles and About; the Strings tab made aside until a string
// table is open) and the "Close" button below it. With both campaign tables
// shown, each marks the missions the other file lacks; the platform's keys
// for the next and previous tab switch tabs wherever the focus is.
void makeTabPages(Qwr &window, Prompts &prompts);
