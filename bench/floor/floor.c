/* The floor of the start-up figures: a C program that does nothing. */
int main(void)
{
    return 0;
}
