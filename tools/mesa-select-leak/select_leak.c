/*
 * Memory growth while drawing immediate-mode geometry (glBegin/glEnd) with the
 * render mode set to GL_SELECT or GL_FEEDBACK.
 *
 * The program makes a GLX context on a small window, then runs P passes. Each
 * pass switches to the chosen render mode, draws N quads by the chosen method,
 * and switches back to GL_RENDER. Resident memory (/proc/self/statm) and the
 * bytes malloc reports as in use (mallinfo2) are printed before and after the
 * measured passes, and every tenth of the way (or every K passes with
 * --every K). A warm-up of W passes runs
 * first so that one-time allocations (shader variants, buffers that are kept
 * and reused) are not counted.
 *
 * Build:  cc -O2 -o select_leak select_leak.c -lGLU -lGL -lX11 -lm
 * Run:    ./select_leak --mode select --draw immediate
 *         ./select_leak --help
 */
#define _GNU_SOURCE
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <malloc.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

enum draw_method {
    DRAW_IMMEDIATE,  /* glBegin(GL_QUADS) ... glVertex3f ... glEnd */
    DRAW_ARRAYS,     /* client vertex array + glDrawArrays(GL_QUADS) */
    DRAW_LIST_ONCE,  /* display list compiled once, glCallList every pass */
    DRAW_LIST_NEW,   /* new display list compiled before every pass, deleted after */
    DRAW_LIST_SAME,  /* the same list id recompiled before every pass */
    DRAW_QUADRICS,   /* gluSphere, gluCylinder and gluDisk */
    DRAW_VBO_NEW     /* buffer object created, filled and drawn, then deleted, every pass */
};

#define DRAW_METHODS 7
static const char *const draw_names[DRAW_METHODS] = {
    "immediate", "arrays", "list-once", "list-new", "list-same", "quadrics", "vbo-new"};

static int quads = 2000;
static int passes = 600;
static int warmup = 20;
static int every = 0; /* print every this many passes; 0 means a tenth of the run */
static GLenum mode = GL_SELECT;
static enum draw_method method = DRAW_IMMEDIATE;

static GLfloat *verts;          /* 4 * quads vertices of 3 floats */
static GLuint select_buf[100];
static GLfloat *feedback_buf;
static const GLsizei feedback_len = 1 << 20;
static GLUquadric *quadric;
static GLuint list_id;
static GLuint buffer_id;

static long page_size;

static long rss_bytes(void) {
    long size = 0, resident = 0;
    FILE *f = fopen("/proc/self/statm", "r");
    if (f == NULL) return -1;
    if (fscanf(f, "%ld %ld", &size, &resident) != 2) resident = -1;
    fclose(f);
    return resident * page_size;
}

static long heap_in_use(void) {
    struct mallinfo2 mi = mallinfo2();
    return (long)(mi.uordblks + mi.hblkhd);
}

/* A grid of small quads filling the unit square, all inside the view volume. */
static void make_quads(void) {
    int side = 1;
    while (side * side < quads) side++;
    verts = malloc(sizeof(GLfloat) * 12 * (size_t)quads);
    for (int i = 0; i < quads; i++) {
        float x0 = (float)(i % side) / side, y0 = (float)(i / side) / side;
        float d = 0.8f / side;
        GLfloat q[12] = {x0, y0, 0, x0 + d, y0, 0, x0 + d, y0 + d, 0, x0, y0 + d, 0};
        memcpy(verts + 12 * i, q, sizeof q);
    }
}

static void emit_immediate(void) {
    glBegin(GL_QUADS);
    for (int i = 0; i < 4 * quads; i++) glVertex3fv(verts + 3 * i);
    glEnd();
}

static void emit_quadrics(void) {
    /* Roughly as many vertices as the quads: one sphere, cylinder and disk
     * per group of 20 quads, each at its own place. */
    for (int i = 0; i < quads; i += 20) {
        glPushMatrix();
        glTranslatef(verts[12 * i], verts[12 * i + 1], 0.0f);
        gluSphere(quadric, 0.01, 6, 6);
        gluCylinder(quadric, 0.01, 0.01, 0.01, 12, 1);
        gluDisk(quadric, 0.0, 0.01, 12, 3);
        glPopMatrix();
    }
}

static void compile_list(GLuint id) {
    glNewList(id, GL_COMPILE);
    emit_immediate();
    glEndList();
}

/* Everything drawn inside one pass, in whatever render mode is current. */
static void draw(void) {
    glLoadName(1);
    switch (method) {
    case DRAW_IMMEDIATE: emit_immediate(); break;
    case DRAW_ARRAYS:
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, verts);
        glDrawArrays(GL_QUADS, 0, 4 * quads);
        glDisableClientState(GL_VERTEX_ARRAY);
        break;
    case DRAW_LIST_ONCE:
    case DRAW_LIST_NEW:
    case DRAW_LIST_SAME: glCallList(list_id); break;
    case DRAW_QUADRICS: emit_quadrics(); break;
    case DRAW_VBO_NEW:
        glBindBuffer(GL_ARRAY_BUFFER, buffer_id);
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, NULL);
        glDrawArrays(GL_QUADS, 0, 4 * quads);
        glDisableClientState(GL_VERTEX_ARRAY);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        break;
    }
}

static void one_pass(void) {
    if (method == DRAW_LIST_NEW) {
        list_id = glGenLists(1);
        compile_list(list_id);
    } else if (method == DRAW_LIST_SAME) {
        compile_list(list_id);
    } else if (method == DRAW_VBO_NEW) {
        glGenBuffers(1, &buffer_id);
        glBindBuffer(GL_ARRAY_BUFFER, buffer_id);
        glBufferData(GL_ARRAY_BUFFER, (GLsizeiptr)(sizeof(GLfloat) * 12 * (size_t)quads), verts,
                     GL_STATIC_DRAW);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    }
    if (mode == GL_SELECT) {
        glSelectBuffer(100, select_buf);
        glRenderMode(GL_SELECT);
        glInitNames();
        glPushName(0);
    } else if (mode == GL_FEEDBACK) {
        glFeedbackBuffer(feedback_len, GL_3D, feedback_buf);
        glRenderMode(GL_FEEDBACK);
    } else {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    draw();
    GLint n = glRenderMode(GL_RENDER);
    if (mode == GL_RENDER) glFinish();
    if (n < 0) fprintf(stderr, "buffer overflow in pass\n");
    if (method == DRAW_LIST_NEW) glDeleteLists(list_id, 1);
    if (method == DRAW_VBO_NEW) glDeleteBuffers(1, &buffer_id);
}

static void usage(const char *prog) {
    fprintf(stderr,
            "usage: %s [--mode select|feedback|render] "
            "[--draw immediate|arrays|list-once|list-new|list-same|quadrics|vbo-new]\n"
            "          [--quads N] [--passes P] [--warmup W] [--every K]\n",
            prog);
    exit(2);
}

int main(int argc, char **argv) {
    for (int i = 1; i < argc; i++) {
        const char *a = argv[i], *v = i + 1 < argc ? argv[i + 1] : NULL;
        if (v == NULL) usage(argv[0]);
        if (!strcmp(a, "--mode")) {
            if (!strcmp(v, "select")) mode = GL_SELECT;
            else if (!strcmp(v, "feedback")) mode = GL_FEEDBACK;
            else if (!strcmp(v, "render")) mode = GL_RENDER;
            else usage(argv[0]);
        } else if (!strcmp(a, "--draw")) {
            int found = 0;
            for (int k = 0; k < DRAW_METHODS; k++)
                if (!strcmp(v, draw_names[k])) { method = (enum draw_method)k; found = 1; }
            if (!found) usage(argv[0]);
        } else if (!strcmp(a, "--quads")) quads = atoi(v);
        else if (!strcmp(a, "--passes")) passes = atoi(v);
        else if (!strcmp(a, "--warmup")) warmup = atoi(v);
        else if (!strcmp(a, "--every")) every = atoi(v);
        else usage(argv[0]);
        i++;
    }
    if (quads < 1 || passes < 1 || warmup < 0) usage(argv[0]);
    page_size = sysconf(_SC_PAGESIZE);

    Display *dpy = XOpenDisplay(NULL);
    if (dpy == NULL) { fprintf(stderr, "cannot open display\n"); return 1; }
    int attrs[] = {GLX_RGBA, GLX_DEPTH_SIZE, 24, GLX_DOUBLEBUFFER, None};
    XVisualInfo *vi = glXChooseVisual(dpy, DefaultScreen(dpy), attrs);
    if (vi == NULL) { fprintf(stderr, "no visual\n"); return 1; }
    XSetWindowAttributes swa;
    swa.colormap = XCreateColormap(dpy, RootWindow(dpy, vi->screen), vi->visual, AllocNone);
    swa.event_mask = 0;
    Window win = XCreateWindow(dpy, RootWindow(dpy, vi->screen), 0, 0, 480, 480, 0, vi->depth,
                               InputOutput, vi->visual, CWColormap | CWEventMask, &swa);
    XMapWindow(dpy, win);
    GLXContext ctx = glXCreateContext(dpy, vi, NULL, True);
    glXMakeCurrent(dpy, win, ctx);

    printf("GL_RENDERER: %s\nGL_VERSION:  %s\n", (const char *)glGetString(GL_RENDERER),
           (const char *)glGetString(GL_VERSION));
    printf("mode=%s draw=%s quads=%d passes=%d warmup=%d\n",
           mode == GL_SELECT ? "select" : mode == GL_FEEDBACK ? "feedback" : "render",
           draw_names[method], quads, passes, warmup);

    make_quads();
    feedback_buf = malloc(sizeof(GLfloat) * feedback_len);
    quadric = gluNewQuadric();
    glViewport(0, 0, 480, 480);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (method == DRAW_LIST_ONCE || method == DRAW_LIST_SAME) {
        list_id = glGenLists(1);
        compile_list(list_id);
    }

    for (int p = 0; p < warmup; p++) one_pass();

    long rss0 = rss_bytes(), heap0 = heap_in_use();
    printf("before: rss %ld kB, heap in use %ld kB\n", rss0 / 1024, heap0 / 1024);
    int step = every > 0 ? every : passes >= 10 ? passes / 10 : 1;
    long prev_heap = heap0, jumps = 0, jump_bytes = 0;
    for (int p = 1; p <= passes; p++) {
        one_pass();
        long now = heap_in_use();
        /* Growth comes in whole buffers: count the passes where it jumped. */
        if (now - prev_heap >= 256 * 1024) {
            jumps++;
            jump_bytes += now - prev_heap;
        }
        prev_heap = now;
        if (p % step == 0 || p == passes) {
            long rss = rss_bytes(), heap = heap_in_use();
            printf("pass %5d: rss %8ld kB (+%ld B/pass), heap %8ld kB (+%ld B/pass)\n", p,
                   rss / 1024, (rss - rss0) / p, heap / 1024, (heap - heap0) / p);
        }
    }
    long rss1 = rss_bytes(), heap1 = heap_in_use();
    printf("after:  rss %ld kB, heap in use %ld kB\n", rss1 / 1024, heap1 / 1024);
    printf("growth: rss %ld B/pass, heap %ld B/pass over %d passes "
           "(total rss %+ld kB, heap %+ld kB)\n",
           (rss1 - rss0) / passes, (heap1 - heap0) / passes, passes, (rss1 - rss0) / 1024,
           (heap1 - heap0) / 1024);
    if (jumps > 0)
        printf("heap grew in %ld steps of %ld bytes on average\n", jumps, jump_bytes / jumps);

    gluDeleteQuadric(quadric);
    glXMakeCurrent(dpy, None, NULL);
    glXDestroyContext(dpy, ctx);
    XDestroyWindow(dpy, win);
    XCloseDisplay(dpy);
    free(verts);
    free(feedback_buf);
    return 0;
}
