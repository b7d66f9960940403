/* The start-up floor: the same menu dialogue as a plain C program writes it with printf and
   reads it with scanf, to compare how many pages a run of "6" touches. Other choices only bring
   the menu back. */
#include <stdio.h>

int main(void) {
    int choices = 0;
    do {
        printf(
            "1.create linked list\n2.display linked list\n3.Delete at first\n4.Delete at last\n"
            "5.Delete at position\n6.Exist\nplz enter your choice");
        if (scanf("%d", &choices) != 1) {
            return 0;
        }
    } while (choices != 6);
    printf("Thank You!");
    return 0;
}
