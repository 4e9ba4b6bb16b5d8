/* Actions that use names of the lexer class's members for globals of
   their own: each action fails to compile, with lexgen as with RE/flex. */
%option noyywrap
%{
int lines = 0, columns = 0, size = 0, matcher = 0;
%}
%%
\n	++lines;
\t	++columns;
x	size += 1;
y	matcher = 1;
%%
int main() { return 0; }
