/* The start-up floor: the same menu dialogue as a plain C program writes it with printf and
   reads it with scanf, to compare how many pages a run of "6" touches. Other choices only bring
   the menu back. The texts come from the table of dialogues, through bench/run.py.

   Usage: c_floor MENU FAREWELL */
#include <stdio.h>

int main(int argc, char **argv) {
    int choices = 0;
    if (argc != 3) {
        fprintf(stderr, "usage: c_floor MENU FAREWELL\n");
        return 2;
    }
    do {
        printf("%s", argv[1]);
        if (scanf("%d", &choices) != 1) {
            return 0;
        }
    } while (choices != 6);
    printf("%s", argv[2]);
    return 0;
}
