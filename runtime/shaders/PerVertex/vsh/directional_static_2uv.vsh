vs_2_0
dcl_position v0
dcl_normal v1
dcl_texcoord0 v2
dcl_texcoord1 v5
mov r0, v0
mov r1.xyz, v1
mul r2, r0.x, c0
mad r2, r0.y, c1, r2
mad r2, r0.z, c2, r2
add oPos, r2, c3
mul r3.xyz, r1.x, c4
mad r3.xyz, r1.y, c5, r3
mad r3.xyz, r1.z, c6, r3
dp3 r3.w, r3, r3
rsq r3.w, r3.w
mul r3.xyz, r3, r3.w
dp3 r4.x, r3, -c12
max r4.x, r4.x, c15.x
mul oD0.xyz, r4.x, c10
mov oD0.w, c15.y
mov oT0, v2
mov oT1, v5
